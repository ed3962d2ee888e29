#include "FileChooserDetails.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

namespace qz {

namespace {
// The file system model's columns: name, size, type, date modified.
constexpr int kSizeColumn = 1;
constexpr int kDateColumn = 3;

class DetailsInDefaultLocale final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex file = mapToSource(index);
        switch (index.column()) {
        case kSizeColumn:
            // Folders have no size there.
            return files->isDir(file) ? QString() : QLocale().formattedDataSize(files->size(file));
        case kDateColumn:
            return QLocale().toString(files->lastModified(file), QLocale::ShortFormat);
        default:
            return QIdentityProxyModel::data(index, role);
        }
    }
};
} // namespace

bool FileChooserDetails::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show)
        return false;
    auto* dialog = qobject_cast<QFileDialog*>(watched);
    // A chooser of the desktop's own has no views of the toolkit's; one with a model of its caller's is kept.
    if (dialog != nullptr && dialog->proxyModel() == nullptr && dialog->findChild<QTreeView*>() != nullptr)
        dialog->setProxyModel(new DetailsInDefaultLocale(dialog));
    return false;
}

} // namespace qz
