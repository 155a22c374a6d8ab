// Every text the die shows, defined once in texts.cpp: the program and its tests read the very
// same bytes.
#pragma once

extern const char kClassName[];  // the window class and the class's menu name
extern const char kWindowTitle[];
extern const char kStatusText[];
extern const char kFileMenuText[];
extern const char kHelpMenuText[];
extern const char kExitItemText[];
extern const char kUsageItemText[];
extern const char kAboutItemText[];
extern const char kUsageText[];
extern const char kUsageCaption[];
extern const char kAboutCaption[];
extern const char kAboutText[];
extern const char kCloseText[];
extern const char kCloseCaption[];
