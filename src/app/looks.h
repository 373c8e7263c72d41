#pragma once

#include <QColor>
#include <QString>

#include <span>

namespace corvane {

/// A look of the application: its command number and menu text.
struct LookInfo {
    int id;
    const char16_t* menuText;
    bool office2007;  // listed in the "Office 2007(&7)" submenu
};

/// The looks 210 to 218 in menu order.
std::span<const LookInfo> applicationLooks();

bool isKnownLook(int id);
bool isDarkLook(int id);

/// Gives the application the style and palette of look `id`. An unknown id keeps the
/// Office 2007 colours in force (blue when none is).
void applyApplicationLook(int id);

/// The contrast ratio of two colours as the web accessibility guidelines define it: 1 for
/// equal luminance, 21 for black on white.
double contrastRatio(const QColor& a, const QColor& b);

/// `colour` darkened (on a light background) or lightened (on a dark one) just enough to
/// read on `background` with a contrast ratio of at least `minimum`.
QColor readableOn(const QColor& colour, const QColor& background, double minimum = 4.5);

/// The style sheet for the menu bar, tool bars and status bar of look `id`.
QString barStyleSheet(int id);

}  // namespace corvane
