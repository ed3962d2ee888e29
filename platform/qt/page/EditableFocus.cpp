#include "EditableFocus.h"

#include <algorithm>
#include <iterator>

#include <QKeySequence>
#include <QWebEnginePage>

#include "PageScripts.h"

namespace qz {

namespace {
const QString kReportPrefix = QStringLiteral("qz-editable-focus:");

// Runs apart from the page's own scripts, which can neither see nor change it.
const char kWatchScript[] = R"(
(function () {
  var textTypes = ['', 'text', 'search', 'url', 'tel', 'email', 'password', 'number'];
  function editable(element) {
    if (!element) return false;
    if (element.isContentEditable) return true;
    var tag = element.tagName;
    if (tag !== 'TEXTAREA' && !(tag === 'INPUT' && textTypes.indexOf((element.getAttribute('type') || '').toLowerCase()) >= 0))
      return false;
    return !element.readOnly && !element.disabled;
  }
  var reported = false;
  function report() {
    var now = editable(document.activeElement);
    if (now !== reported) {
      reported = now;
      console.debug('qz-editable-focus:' + (now ? '1' : '0'));
    }
  }
  document.addEventListener('focusin', report, true);
  // Where the focus went is known only once the focus has moved.
  document.addEventListener('focusout', function () { setTimeout(report, 0); }, true);
})();
)";
} // namespace

EditableFocus::EditableFocus(QWebEnginePage* page) {
    insertDocumentScript(
        *page, QStringLiteral("qz-editable-focus"), kWatchScript, QWebEngineScript::ApplicationWorld, false);
}

bool EditableFocus::takeReport(const QString& message) {
    if (!message.startsWith(kReportPrefix))
        return false;
    m_editable = message.endsWith(u'1');
    return true;
}

bool EditableFocus::isEditingKey(const QKeySequence& keys) {
    static const QKeySequence editingKeys[] = {
        QKeySequence(Qt::CTRL | Qt::Key_C),
        QKeySequence(Qt::CTRL | Qt::Key_V),
        QKeySequence(Qt::CTRL | Qt::Key_X),
        QKeySequence(Qt::CTRL | Qt::Key_A),
    };
    return std::find(std::begin(editingKeys), std::end(editingKeys), keys) != std::end(editingKeys);
}

} // namespace qz
