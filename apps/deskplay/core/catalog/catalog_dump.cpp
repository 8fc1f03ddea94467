#include "core/catalog/catalog_dump.hpp"

#include <QProcess>
#include <QString>
#include <QStringList>

#include "common/shell_quote.hpp"
#include "common/trim.hpp"
#include "common/utf8.hpp"

namespace deskplay::core {

namespace {

// The last line of the dump's error output, which names what went wrong; the exit status
// when there is no readable text.
std::string failureReason(const QByteArray& errors, int status) {
  const std::string_view text(errors.constData(), static_cast<size_t>(errors.size()));
  if (isValidUtf8(text)) {
    const std::string_view trimmed = trimmedWhitespaceAndNewlines(text);
    if (!trimmed.empty()) {
      const size_t lastBreak = trimmed.rfind('\n');
      return std::string(lastBreak == std::string_view::npos ? trimmed
                                                             : trimmed.substr(lastBreak + 1));
    }
  }
  return "exit " + std::to_string(status);
}

}  // namespace

std::string catalogDumpCommand(const std::filesystem::path& checkout) {
  return "cd " + shellQuoted(checkout.string()) +
         " && exec node --import tsx scripts/dump-catalog.ts";
}

Result<QByteArray> runCatalogDump(const std::filesystem::path& zsh,
                                  const std::filesystem::path& checkout,
                                  const QProcessEnvironment& environment) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setStandardInputFile(QProcess::nullDevice());
  process.setProcessChannelMode(QProcess::SeparateChannels);
  process.start(QString::fromStdString(zsh.string()),
                {QStringLiteral("-ilc"), QString::fromStdString(catalogDumpCommand(checkout))});
  if (!process.waitForStarted(-1)) {
    return DumpError{"Catalog refresh failed to start: " + process.errorString().toStdString()};
  }
  // QProcess reads both pipes into its buffers while it waits, so neither can fill up.
  process.waitForFinished(-1);
  const QByteArray output = process.readAllStandardOutput();
  const QByteArray errors = process.readAllStandardError();
  // After a crash the code is the signal's number, as a termination status would be.
  const int status = process.exitCode();
  if (process.exitStatus() == QProcess::NormalExit && status == 0) return output;
  return DumpError{"Catalog refresh failed: " + failureReason(errors, status)};
}

}  // namespace deskplay::core
