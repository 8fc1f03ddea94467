#include "ui/models/permissions_pane_model.hpp"

#include <QVariantMap>

#include "ui/models/qt_text.hpp"

namespace deskplay::ui {
namespace {

struct PermissionRow {
  QString title;
  QString subtitle;
  bool granted;
  std::string_view anchor;
};

std::vector<PermissionRow> permissionRows(const core::PermissionsModel& permissions) {
  return {
      {QStringLiteral("Accessibility"), QStringLiteral("Lets a game capture your keyboard"),
       permissions.accessibility(), core::kAccessibilityAnchor},
      {QStringLiteral("Input Monitoring"), QStringLiteral("Reads key presses while a game runs"),
       permissions.inputMonitoring(), core::kInputMonitoringAnchor},
  };
}

}  // namespace

PermissionsPaneModel::PermissionsPaneModel(core::PermissionsModel& permissions, QObject* parent)
    : QObject(parent), permissions_(permissions) {
  connect(&permissions_, &core::PermissionsModel::accessibilityChanged, this,
          &PermissionsPaneModel::changed);
  connect(&permissions_, &core::PermissionsModel::inputMonitoringChanged, this,
          &PermissionsPaneModel::changed);
}

QVariantList PermissionsPaneModel::rows() const {
  QVariantList rows;
  for (const PermissionRow& row : permissionRows(permissions_)) {
    rows.append(QVariantMap{{"title", row.title},
                            {"subtitle", row.subtitle},
                            {"granted", row.granted},
                            {"anchor", qtText(row.anchor)}});
  }
  return rows;
}

bool PermissionsPaneModel::anyMissing() const {
  return !permissions_.accessibility() || !permissions_.inputMonitoring();
}

void PermissionsPaneModel::open(const QString& anchor) {
  for (const PermissionRow& row : permissionRows(permissions_)) {
    if (qtText(row.anchor) == anchor && !row.granted) return permissions_.open(row.anchor);
  }
}

void PermissionsPaneModel::relaunch() {
  permissions_.relaunch();
}

}  // namespace deskplay::ui
