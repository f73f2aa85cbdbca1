#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// Maps the symbol names the screens are written with ("house.fill", "chevron.left", …) to
// glyphs of the Material Icons font that tools/setup installs. QML draws them through
// SymbolIcon; an unknown name draws nothing rather than a wrong picture.
class SymbolGlyphs : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString fontFamily READ fontFamily CONSTANT)

public:
    explicit SymbolGlyphs(QObject *parent = nullptr);

    [[nodiscard]] static QString fontFamily() { return QStringLiteral("Material Icons"); }

    // The glyph text for a symbol name, or an empty text when the name has no mapping.
    [[nodiscard]] Q_INVOKABLE static QString glyph(const QString &name);
    [[nodiscard]] Q_INVOKABLE static bool contains(const QString &name);
    [[nodiscard]] static QStringList names();
};

} // namespace orvella
