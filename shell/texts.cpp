// Every text the die shows. The source is UTF-8 so the Japanese stays readable; the build turns
// each literal into code page 932 bytes, which the ANSI ("A") functions expect.
#include "texts.h"

const char kClassName[] = "VOREL";
const char kWindowTitle[] = "VOREL用サイコロ";
const char kStatusText[] = "どれかキーを押すとスタート";
const char kFileMenuText[] = "FILE(&F)";
const char kHelpMenuText[] = "HELP(&H)";
const char kExitItemText[] = "終了(&X)";
const char kUsageItemText[] = "使い方(&U)";
const char kAboutItemText[] = "About(&A)";
const char kUsageText[] = "どれかキーを押すとスタート!!";
const char kUsageCaption[] = "使い方";
const char kAboutCaption[] = "About";
// Three lines joined by a bare line feed: the year and the maker, the program, the maker's address.
const char kAboutText[] =
    "(C) 2026 The VOREL Project\n"
    "VOREL用サイコロソフト\n"
    "https://vorel.example.org/";
const char kCloseText[] = "終了してもよろしいですか";
const char kCloseCaption[] = "確認";
