#pragma once

class QApplication;

// What the application needs before its first window: Qt's Japanese
// translations for the standard buttons, and Japanese screen fonts standing
// in for the Windows font names that question files carry.
void setupApplication(QApplication& app);
void registerFontSubstitutes();
