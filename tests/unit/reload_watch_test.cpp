// Reload on save looks at the set's own files once the writes settled.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/reload_watch.h"
#include "tests/support/temp_folder.h"

TEST(ReloadWatch, OnlyTheSetsOwnFilesCountAndOnlyOnceTheWritesSettled) {
    TempFolder folder{"lumenfold-reload"};
    const std::string main_path = folder.write("scene.glsl", "one");
    watch_pass_set(main_path.c_str());

    note_folder_change(1.0);
    folder.write("notes.txt", "an editor's backup");
    EXPECT_FALSE(pass_set_changed_on_disk(1.2)) << "another file of the folder";

    note_folder_change(2.0);
    folder.write("scene.glsl", "version two");
    EXPECT_GT(seconds_until_reload_check(2.1), 0.0) << "the writes may go on";
    EXPECT_FALSE(pass_set_changed_on_disk(2.1));
    EXPECT_TRUE(pass_set_changed_on_disk(2.2));
    EXPECT_LT(seconds_until_reload_check(2.3), 0.0) << "nothing left to look at";

    note_folder_change(3.0);
    EXPECT_FALSE(pass_set_changed_on_disk(3.5)) << "the same files again: no second reload";

    note_folder_change(4.0);
    folder.write("scene.a.glsl", "a companion appears");
    EXPECT_TRUE(pass_set_changed_on_disk(4.2));
    note_folder_change(5.0);
    remove(folder.file("scene.a.glsl").c_str());
    EXPECT_TRUE(pass_set_changed_on_disk(5.2)) << "and goes";

    watch_pass_set(nullptr);
    note_folder_change(6.0);
    EXPECT_FALSE(pass_set_changed_on_disk(6.5)) << "the built-in set has no files";
    EXPECT_EQ(watched_pass_set(), nullptr);
}

TEST(ReloadWatch, ASaveThatLandsWhileTheSetBuildsIsFoundByTheNextLook) {
    TempFolder folder{"lumenfold-reload"};
    const std::string main_path = folder.write("scene.glsl", "one");
    // As the player does: the stamps first, then the files are read and built.
    const PassSetStamps before_the_read = read_pass_set_stamps(main_path.c_str());
    folder.write("scene.glsl", "version two, saved during the build");
    watch_pass_set(main_path.c_str(), before_the_read);
    note_folder_change(1.0);
    EXPECT_TRUE(pass_set_changed_on_disk(1.2));
    watch_pass_set(nullptr);
}
