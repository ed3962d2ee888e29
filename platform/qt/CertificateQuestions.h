#pragma once

class QWebEnginePage;

namespace qz::CertificateQuestions {

// A site whose certificate the engine does not trust (signed by the site itself, for another name,
// out of date) is shown only if the user says so: a warning in Chinese names the site and what is
// wrong, 返回 being the default. Errors the engine never lets pass are refused without a question.
void answerFor(QWebEnginePage* page);

} // namespace qz::CertificateQuestions
