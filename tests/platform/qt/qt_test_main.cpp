// GoogleTest inside a QApplication on Qt's offscreen platform: no display needed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>

namespace {

QtMessageHandler standardHandler = nullptr;

// The offscreen platform says this for every fixed-size window; it is no news to these tests.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("does not support propagateSizeHints"))) return;
  if (standardHandler != nullptr) standardHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  standardHandler = qInstallMessageHandler(QuietMessages);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Death tests start the binary afresh instead of forking a process that runs Qt.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
