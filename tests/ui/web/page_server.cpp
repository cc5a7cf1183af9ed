#include "tests/ui/web/page_server.h"

#include <QRegularExpression>

namespace nivra::test {

PageServer::PageServer() {
  process_.setProgram(QStringLiteral("/usr/bin/python3"));
  process_.setArguments({"-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory",
                         QString::fromStdString(root_.path().string())});
  process_.setProcessChannelMode(QProcess::SeparateChannels);
  process_.setStandardErrorFile(QProcess::nullDevice());
  process_.start();
  // "Serving HTTP on 127.0.0.1 port 40123 (http://127.0.0.1:40123/) ..."
  static const QRegularExpression portLine(QStringLiteral(R"(port (\d+))"));
  QByteArray out;
  while (process_.waitForReadyRead(20000)) {
    out += process_.readAllStandardOutput();
    if (auto m = portLine.match(QString::fromUtf8(out)); m.hasMatch()) {
      port_ = m.captured(1).toInt();
      break;
    }
  }
}

PageServer::~PageServer() {
  process_.kill();
  process_.waitForFinished(5000);
}

QUrl PageServer::url(const QString& name) const {
  if (!running()) return {};
  return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(port_).arg(name));
}

}  // namespace nivra::test
