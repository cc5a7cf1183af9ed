#pragma once
// A folder of test pages served by `python3 -m http.server` on 127.0.0.1 (a free port), for the
// life of the object.

#include <QProcess>
#include <QString>
#include <QUrl>
#include <string>

#include "tests/support/temp_dir.h"

namespace nivra::test {

class PageServer {
 public:
  // `port` 0 takes a free port.
  explicit PageServer(int port = 0);
  ~PageServer();
  PageServer(const PageServer&) = delete;
  PageServer& operator=(const PageServer&) = delete;

  // Writes a page into the served folder.
  void addPage(const std::string& name, const std::string& content) { root_.write(name, content); }
  // The address of `name` on the server; an invalid URL when the server did not start.
  QUrl url(const QString& name) const;
  bool running() const { return port_ != 0; }

 private:
  TempDir root_;
  QProcess process_;
  int port_ = 0;
};

// A script that gives [x, y]: the middle of the element `id` of the top-level document or, with
// `frameId`, of that frame's document, in the view's coordinates.
QString elementCentreScript(const QString& id, const QString& frameId = {});

}  // namespace nivra::test
