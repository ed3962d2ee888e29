#pragma once

#include <QString>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace qz {

// Adds a script of the shell's own that runs in every document of the page as it is created.
inline void insertDocumentScript(QWebEnginePage& page, const QString& name, const char* source,
    QWebEngineScript::ScriptWorldId world, bool subFrames) {
    QWebEngineScript script;
    script.setName(name);
    script.setSourceCode(QString::fromLatin1(source));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(world);
    script.setRunsOnSubFrames(subFrames);
    page.scripts().insert(script);
}

} // namespace qz
