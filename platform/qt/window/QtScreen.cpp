#include "QtScreen.h"

#include <QGuiApplication>
#include <QScreen>

#include "Twips.h"
#include "platform/Errors.h"

namespace qz {

namespace {
const QScreen& primaryScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        throw PlatformError("Screen: no screen");
    return *screen;
}
} // namespace

float QtScreen::Width() {
    return pixelsToTwips(primaryScreen().size().width());
}

float QtScreen::Height() {
    return pixelsToTwips(primaryScreen().size().height());
}

} // namespace qz
