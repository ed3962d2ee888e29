#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

#include "platform/qt/window/QtScreen.h"

namespace qz {
namespace {

TEST(QtScreen, IsThePrimaryScreensSizeInTwips) {
    const QSize size = QGuiApplication::primaryScreen()->size();
    QtScreen screen;
    EXPECT_EQ(screen.Width(), static_cast<float>(size.width() * 15));
    EXPECT_EQ(screen.Height(), static_cast<float>(size.height() * 15));
}

} // namespace
} // namespace qz
