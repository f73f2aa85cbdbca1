#pragma once

#include <QUrl>

class QGuiApplication;
class QQmlEngine;

namespace orvella {

// Process-wide set-up shared by the executable and the window tests: names that decide where
// settings and caches live, the scene graph back end, and the numeric locale libmpv needs.
void configureApplicationBeforeConstruction();
void configureApplication(QGuiApplication &app);

// Import paths every engine needs to find the "Orvella" module; QML files import it by name.
void prepareEngine(QQmlEngine &engine);

// The QML root of the one window.
[[nodiscard]] QUrl mainWindowUrl();

} // namespace orvella
