#include "platform/desktop_viewer.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace qtarvox {

bool StartDesktopViewer(const std::string& path) {
  const QString file = QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
  return QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{file});
}

}  // namespace qtarvox
