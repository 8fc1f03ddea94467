#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>

#include "core/settings/permissions_model.hpp"

namespace deskplay::ui {

// The Permissions settings pane: one row per privacy permission with whether it is granted,
// the System Settings page a missing one opens, and the relaunch that Input Monitoring needs.
// Main thread only.
class PermissionsPaneModel final : public QObject {
  Q_OBJECT
  // Per row, in order: "title", "subtitle", "granted" (bool) and "anchor", the System Settings
  // page it opens.
  Q_PROPERTY(QVariantList rows READ rows NOTIFY changed)
  // A permission is missing: the settings menu marks the Permissions row.
  Q_PROPERTY(bool anyMissing READ anyMissing NOTIFY changed)
  // Input Monitoring is missing, so the pane offers "Relaunch".
  Q_PROPERTY(bool offersRelaunch READ offersRelaunch NOTIFY changed)

 public:
  explicit PermissionsPaneModel(core::PermissionsModel& permissions, QObject* parent = nullptr);

  QVariantList rows() const;
  bool anyMissing() const;
  bool offersRelaunch() const { return !permissions_.inputMonitoring(); }

  // Opens the System Settings page of the row with that anchor; nothing for a granted row or
  // an anchor of no row.
  Q_INVOKABLE void open(const QString& anchor);
  Q_INVOKABLE void relaunch();

 signals:
  void changed();

 private:
  core::PermissionsModel& permissions_;
};

}  // namespace deskplay::ui
