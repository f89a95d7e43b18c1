#pragma once

#include <QProxyStyle>
#include <QString>
#include <QStringList>

// Visual themes: Qt style sheets held in the program's resources, found by the name that each
// one declares in its first line ("/* Theme: NAME */").
namespace kit_Theme {

// Finds the themes under the given resource folder; returns their names.
QStringList registerThemes(const QString &resourceDir = QStringLiteral(":/themes"));
QStringList registeredThemes();

// Applies the named theme to the whole application. When no registered theme has that name the
// error box says so and the application keeps the standard look; the result tells which.
bool TrySetStyle(const QString &name);

// The standard look under every theme, with the window's tooltip timing (500 ms to show).
class TRangeurStyle final : public QProxyStyle {
public:
    TRangeurStyle();
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr,
                  const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
    void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &palette,
                      bool enabled, const QString &text,
                      QPalette::ColorRole textRole = QPalette::NoRole) const override;
};

} // namespace kit_Theme
