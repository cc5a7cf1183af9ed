#include "tests/ui/web/page_server.h"

#include <QRegularExpression>

#include "ui/web/web_page.h"

namespace nivra::test {

PageServer::PageServer(int port) {
  process_.setProgram(QStringLiteral("/usr/bin/python3"));
  process_.setArguments({"-u", "-m", "http.server", QString::number(port), "--bind", "127.0.0.1",
                         "--directory", QString::fromStdString(root_.path().string())});
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

QString elementCentreScript(const QString& id, const QString& frameId) {
  return QStringLiteral(R"((() => {
      const frame = %2 ? document.getElementById(%2) : null;
      const doc = frame ? frame.contentDocument : document;
      const r = doc.getElementById(%1).getBoundingClientRect();
      const f = frame ? frame.getBoundingClientRect() : {left: 0, top: 0};
      return [f.left + r.left + r.width / 2, f.top + r.top + r.height / 2];
    })())")
      .arg(ui::javaScriptString(id), ui::javaScriptString(frameId));
}

}  // namespace nivra::test
