#include "app/app_settings.h"

AppSettingsRecord AppSettings = kInitialAppSettings;
