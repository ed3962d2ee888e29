#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTreeView>
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "platform/qt/host/FileChooserDetails.h"

namespace qz {
namespace {

// The text the detail view shows in a column of the row named so; empty while that row is not listed.
QString shown(const QTreeView& view, const QString& name, int column) {
    const QAbstractItemModel& model = *view.model();
    for (int row = 0; row < model.rowCount(view.rootIndex()); ++row) {
        if (model.index(row, 0, view.rootIndex()).data().toString() == name)
            return model.index(row, column, view.rootIndex()).data().toString();
    }
    return QString();
}

TEST(FileChooserDetails, TheToolkitsChooserShowsSizesAndDatesInTheShellsLanguage) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("子文件夹")));
    QFile file(folder.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QByteArray(1018, 'x')) == 1018 && file.flush());
    ASSERT_TRUE(
        file.setFileTime(QDateTime(QDate(2020, 3, 4), QTime(5, 6)), QFileDevice::FileModificationTime));

    FileChooserDetails details;
    qApp->installEventFilter(&details);
    QFileDialog dialog(nullptr, QString(), folder.path());
    dialog.setOptions(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    const auto& view = *dialog.findChild<QTreeView*>();
    ASSERT_TRUE(test::waitFor([&] { return !shown(view, QStringLiteral("notes.txt"), 0).isEmpty(); }));

    EXPECT_EQ(shown(view, QStringLiteral("notes.txt"), 1).remove(u','), QStringLiteral("1018 字节"));
    EXPECT_EQ(shown(view, QStringLiteral("notes.txt"), 3), QStringLiteral("2020/3/4 05:06"));
    EXPECT_EQ(shown(view, QStringLiteral("子文件夹"), 1), QString());
    qApp->removeEventFilter(&details);
    QLocale::setDefault(QLocale::system());
}

} // namespace
} // namespace qz
