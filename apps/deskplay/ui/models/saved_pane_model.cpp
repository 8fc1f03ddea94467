#include "ui/models/saved_pane_model.hpp"

#include <QPointer>

namespace deskplay::ui {

SavedPaneModel::SavedPaneModel(Stores stores, QObject* parent) : QObject(parent), stores_(stores) {
  connect(&stores_.dataFolder, &core::DataFolder::urlChanged, this, &SavedPaneModel::changed);
}

QString SavedPaneModel::folder() const {
  return QString::fromStdString(stores_.dataFolder.url().string());
}

void SavedPaneModel::choose() {
  platform::FolderChoice choice{stores_.dataFolder.url(), "Choose",
                                platform::FolderChoice::Creation::allowed};
  // The panel may be answered after the pane, or the whole application, went away.
  stores_.workspace.chooseFolder(
      choice, [pane = QPointer<SavedPaneModel>(this)](std::optional<std::filesystem::path> chosen) {
        if (pane && chosen) pane->stores_.dataFolder.set(*chosen);
      });
}

void SavedPaneModel::reveal() {
  stores_.dataFolder.reveal();
}

void SavedPaneModel::reset() {
  stores_.dataFolder.resetToDefault();
}

}  // namespace deskplay::ui
