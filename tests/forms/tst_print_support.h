#pragma once
// Shared by the print and event-log tests: the text of a PDF file and the next modal window.

#include <QApplication>
#include <QDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <functional>

// The text of a PDF (poppler's pdftotext) without blanks: pdftotext spaces text by its positions.
inline QString PdfText(const QString &fileName)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-enc"), QStringLiteral("UTF-8"), fileName, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput())
        .remove(QRegularExpression(QStringLiteral("\\s")));
}

// Runs the check on the next modal window, then closes it if the check left it open.
// The context ends the wait when it is destroyed: a check that outlived its test (a late timer on a
// busy machine) would otherwise drive the next test's window.
inline void OnNextModal(std::function<void(QWidget *)> check, int attempts = 100, QObject *context = qApp)
{
    QTimer::singleShot(10, context, [check, attempts, context] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal && attempts > 0) {
            OnNextModal(check, attempts - 1, context);
            return;
        }
        check(modal);
        if (auto *dialog = qobject_cast<QDialog *>(modal); dialog && dialog->isVisible())
            dialog->reject();
    });
}
