#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>

#include "core/catalog/catalog_store.hpp"
#include "core/keys/key_tap.hpp"

namespace deskplay::ui {

// The library screen: the permission banner while keyboard control is missing, the catalog's
// sections in library order (only those with games) and the catalog's refresh error.
// Main thread only.
class LibraryModel final : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool permissionNeeded READ permissionNeeded NOTIFY permissionNeededChanged)
  Q_PROPERTY(QVariantList sections READ sections NOTIFY catalogChanged)
  Q_PROPERTY(QString refreshError READ refreshError NOTIFY catalogChanged)
  Q_PROPERTY(bool refreshErrorIsCritical READ refreshErrorIsCritical NOTIFY catalogChanged)
  Q_PROPERTY(double hoverScale READ hoverScale CONSTANT)
  Q_PROPERTY(double hoverSpring READ hoverSpring CONSTANT)
  Q_PROPERTY(double hoverDamping READ hoverDamping CONSTANT)

 public:
  LibraryModel(core::KeyTap& tap, core::CatalogStore& catalog, QObject* parent = nullptr);

  bool permissionNeeded() const { return !tap_.trusted(); }
  // One object per shown section: "caption" (its name in capitals) and "games" (each a
  // game's presentation).
  QVariantList sections() const;
  QString refreshError() const;
  // The error is all the library has to show: the catalog holds no games.
  bool refreshErrorIsCritical() const { return catalog_.games().empty(); }
  double hoverScale() const;
  double hoverSpring() const;
  double hoverDamping() const;

  Q_INVOKABLE void promptForPermission();

 signals:
  void permissionNeededChanged();
  void catalogChanged();

 private:
  core::KeyTap& tap_;
  core::CatalogStore& catalog_;
};

// A section's caption: its name in capitals, "ARCADE".
QString sectionCaption(core::GameSection section);

}  // namespace deskplay::ui
