#include "platform/qt/fatal_error_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <cstdio>
#include <string>

#include "core/encoding.h"
#include "platform/qt/qt_text.h"

namespace tolvaris {

void ShowFatalErrorBox(const Text& title, const Text& text) {
  auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (application == nullptr || QThread::currentThread() != application->thread()) {
    const std::string line = GbkToUtf8(text.View()) + "\n";
    std::fputs(line.c_str(), stderr);
    return;
  }
  // The text breaks its lines the Windows way.
  QString body = ToQString(text);
  body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(QMessageBox::Critical, ToQString(title), body, QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

}  // namespace tolvaris
