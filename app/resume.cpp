#include "app/resume.h"

#include <windows.h>

#include <cstdlib>

#include "app/monitor_choices.h"
#include "app/settings_file.h"
#include "base/log.h"
#include "desktop/platform_services.h"

char* pass_set_to_resume() {
    char* remembered = remembered_pass_set(kEveryMonitorKey);
    if (!remembered) {
        log_message("resume: nothing is remembered; the built-in set plays");
        return nullptr;
    }
    if (!remembered[0]) {
        log_message("resume: the built-in set");
        free(remembered);
        return nullptr;
    }
    if (!read_file_stamp(remembered).exists) {
        log_message("resume: %s is gone; the built-in set plays", outside_text(remembered).text);
        free(remembered);
        return nullptr;
    }
    log_message("resume: %s", outside_text(remembered).text);
    return remembered;
}

static void resume_monitor_choice(const char* identity, const char* path, void*) {
    if (path && !read_file_stamp(path).exists) {
        log_message("resume: %s is gone; the built-in set plays on %s", outside_text(path).text,
                    outside_text(identity).text);
        path = nullptr;
    } else if (path) {
        log_message("resume: %s on %s", outside_text(path).text, outside_text(identity).text);
    }
    remember_monitor_choice(identity, path);
}

void resume_monitor_choices() { each_monitor_pass_set(resume_monitor_choice, nullptr); }

void resume_in_player_folder() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    for (DWORD index = length; index > 0; --index) {
        if (path[index - 1] != L'\\') continue;
        path[index - 1] = L'\0';
        ::SetCurrentDirectoryW(path);
        return;
    }
}
