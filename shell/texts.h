// Every text the die shows. The source is UTF-8 so the Japanese stays readable; the build turns
// each literal into code page 932 bytes, which the ANSI ("A") functions expect.
#pragma once

inline constexpr char kClassName[] = "VOREL";  // the window class and the class's menu name
inline constexpr char kWindowTitle[] = "VOREL用サイコロ";
inline constexpr char kStatusText[] = "どれかキーを押すとスタート";
inline constexpr char kFileMenuText[] = "FILE(&F)";
inline constexpr char kHelpMenuText[] = "HELP(&H)";
inline constexpr char kExitItemText[] = "終了(&X)";
inline constexpr char kUsageItemText[] = "使い方(&U)";
inline constexpr char kAboutItemText[] = "About(&A)";
inline constexpr char kUsageText[] = "どれかキーを押すとスタート!!";
inline constexpr char kUsageCaption[] = "使い方";
inline constexpr char kAboutCaption[] = "About";
// Three lines joined by a bare line feed: the year and the maker, the program, the maker's address.
inline constexpr char kAboutText[] =
    "(C) 2026 The VOREL Project\n"
    "VOREL用サイコロソフト\n"
    "https://vorel.example.org/";
inline constexpr char kCloseText[] = "終了してもよろしいですか";
inline constexpr char kCloseCaption[] = "確認";
