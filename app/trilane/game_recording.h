#pragma once
// Game recordings in the running program: which moments of the table start and save them.
class QCoreApplication;

namespace trilane {

class GameRecorder;
class TableWidget;

// Records each game at `table`: a recording starts at every deal (the recorder reads the
// setting then) and is saved when the round's result is in, when the player leaves the table,
// and when the program closes in the middle of a game (`app` is about to quit; the close waits
// until the file is written).
void RecordGames(QCoreApplication& app, TableWidget& table, GameRecorder& recorder);

}  // namespace trilane
