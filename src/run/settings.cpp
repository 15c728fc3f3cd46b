#include "run/settings.h"

#include <QSettings>
#include <QString>

#include "platform/chars.h"
#include "platform/paths.h"

namespace qtarvox {

void RememberDirectory(const JobSettings& job) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganization,
                     kSettingsApplication);
  settings.setValue(kSettingsDirKey, QString::fromUtf8(job.dirDir.data(),
                                                       static_cast<qsizetype>(job.dirDir.size())));
  settings.sync();
}

void RestoreDirectory(Job& job) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganization,
                     kSettingsApplication);
  if (!settings.contains(kSettingsDirKey)) return;
  const QByteArray stored = settings.value(kSettingsDirKey).toString().toUtf8();
  // The reader holds 250 bytes with the terminating NUL; a longer path is not
  // read back at all rather than cut.
  if (static_cast<size_t>(stored.size()) + 1 > kRestoreLimit) return;
  const std::string path =
      Trim(std::string_view(stored.constData(), static_cast<size_t>(stored.size())));
  if (path.empty()) return;
  if (!IsDirectory(path)) return;
  job.dirDir = path;
}

}  // namespace qtarvox
