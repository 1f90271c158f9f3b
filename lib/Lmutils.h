#pragma once

#include "HiddenWindow.h"

#include <QString>
#include <memory>

class ImageList;
class LocaleInfo;
class QWidget;

// The utility library: its start-up and exit work, the hidden window's terminate request,
// and the few operations the program uses.

// Posted to the application's hidden window, asks the program to end as if the user had
// closed it. Both parameters are 0.
constexpr quint32 TerminateRequest = WM_USER + 1;

// The user's short date format with the year widened to four digits where the locale
// writes it with two. Empty before start-up and after exit.
extern QString ShortDateFormatEx;

// Start-up, once per process however often it is called: loads the row-indicator picture,
// works out ShortDateFormatEx and installs the library's procedure on the application's
// hidden window. Call it after the application object exists.
void LmutilsStartup();
// Exit, on the call that matches the first start-up: puts the hidden window's previous
// procedure back and releases what start-up made.
void LmutilsExit();

// Installs windowProc on the application's hidden window and returns the procedure it replaced.
WindowProc SubClassApplication(WindowProc windowProc);
// Installs windowProc on the application's hidden window again.
void DeSubClassApplication(WindowProc windowProc);

// Ends the program in an orderly way from anywhere: shows message first (when not empty),
// posts the terminate request and unwinds the current operation silently.
[[noreturn]] void KillProgram(const QString &message);

// Takes the close box away from a window that is not yet shown, and refuses every attempt
// to close it (Alt+F4, the window menu, a close() call): it goes only by being hidden or
// destroyed, which is what a dialog's buttons do.
void DisableCloseButton(QWidget *window);

// ShortDateFormatEx's rule: a format of 15 characters or more does not count; the first
// "yy" becomes "yyyy" unless the century setting starts with '1'.
QString widenShortDateFormat(const QString &shortDateFormat, const QString &centurySetting);

// Loads a Windows bitmap (BMP) into a new list of pictures of its size, white transparent;
// nothing when the bitmap is missing or cannot be read.
std::unique_ptr<ImageList> loadIndicatorImages(const QString &resourcePath);
// The row-indicator pictures that start-up loaded, or nothing.
const ImageList *indicatorImages();

// Where start-up asks for the locale's settings; nullptr stands for the user's own.
void setLocaleInfo(const LocaleInfo *localeInfo);
