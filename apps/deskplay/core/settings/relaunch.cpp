#include "core/settings/relaunch.hpp"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace deskplay::core {

void relaunchApplication(const std::filesystem::path& executable,
                         const std::vector<std::string>& arguments,
                         const std::function<void()>& quit) {
  QStringList processArguments{QString::fromUtf8(kRelaunchedOption.data(),
                                                 static_cast<qsizetype>(kRelaunchedOption.size()))};
  for (const std::string& argument : arguments) {
    processArguments.append(QString::fromStdString(argument));
  }
  static_cast<void>(
      QProcess::startDetached(QString::fromStdString(executable.string()), processArguments));
  quit();
}

}  // namespace deskplay::core
