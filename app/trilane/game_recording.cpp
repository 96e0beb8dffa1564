#include "game_recording.h"

#include <QCoreApplication>

#include "shell/recording/game_recorder.h"
#include "shell/table/table_widget.h"

namespace trilane {

void RecordGames(QCoreApplication& app, TableWidget& table, GameRecorder& recorder) {
  QObject::connect(&table, &TableWidget::roundDealt, &recorder,
                   [&recorder, &table] { recorder.Start(&table); });
  QObject::connect(&table, &TableWidget::roundFinished, &recorder, [&recorder] {
    if (recorder.Recording()) recorder.Stop(true);
  });
  QObject::connect(&table, &TableWidget::leaveRequested, &recorder, [&recorder] {
    if (recorder.Recording()) recorder.Stop(true);
  });
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &recorder, [&recorder] {
    if (recorder.Recording()) recorder.Stop(true);
    recorder.WaitForSave();
  });
}

}  // namespace trilane
