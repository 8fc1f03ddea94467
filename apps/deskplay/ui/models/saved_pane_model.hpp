#pragma once

#include <QObject>
#include <QString>

#include "core/settings/data_folder.hpp"
#include "platform/workspace.hpp"

namespace deskplay::ui {

// The Saved Games & Exports settings pane: the data folder, choosing another through the open
// panel, revealing it, and going back to the default. Main thread only.
class SavedPaneModel final : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString folder READ folder NOTIFY changed)
  // The folder is a custom one, so the pane offers "Reset".
  Q_PROPERTY(bool offersReset READ offersReset NOTIFY changed)

 public:
  struct Stores {
    core::DataFolder& dataFolder;
    platform::Workspace& workspace;
  };

  explicit SavedPaneModel(Stores stores, QObject* parent = nullptr);

  QString folder() const;
  bool offersReset() const { return !stores_.dataFolder.isDefault(); }

  // The open panel for one folder, starting in the current one, where new folders may be
  // made; the folder the person confirms becomes the data folder.
  Q_INVOKABLE void choose();
  Q_INVOKABLE void reveal();
  Q_INVOKABLE void reset();

 signals:
  void changed();

 private:
  Stores stores_;
};

}  // namespace deskplay::ui
