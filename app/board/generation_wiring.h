#pragma once
// How generation control plugs into the start-up core: BoardLink over the board
// session (and the tuner slot), and the core's OutputControl over
// GenerationControl. The main window makes both once the core has started (the
// parameter model and the signal object exist only then) and attaches the output:
//
//   SessionBoardLink link(core.Board(), [&core] { return core.TunerPresent(); });
//   GenerationControl generation(GenerationContext{*core.Model(), core.Settings(),
//       link, core.Signal(), core.Dialogs(), core.Report(), core.Texts(), view,
//       timers, fileData});
//   GenerationOutput output(generation);
//   core.AttachOutput(&output);
//   core.Model()->restartIfRunning = [&] { generation.RestartIfRunning(); };

#include "app/board/board_session.h"
#include "app/board/generation_control.h"
#include "app/board/output_control.h"

#include <functional>

class SessionBoardLink final : public BoardLink {
public:
    SessionBoardLink(const board::BoardSession& session, std::function<bool()> tunerPresent);

    IADCDevice* Device() const override { return session_.Driver(); }
    bool Opened() const override { return session_.BoardOpened(); }
    bool Found() const override { return session_.BoardFound(); }
    BoardTables Tables() const override;
    bool TunerPresent() const override { return tunerPresent_ ? tunerPresent_() : false; }

private:
    const board::BoardSession& session_;
    std::function<bool()> tunerPresent_;
};

class GenerationOutput final : public board::OutputControl {
public:
    explicit GenerationOutput(GenerationControl& generation) : generation_(generation) {}

    bool Running() const override { return generation_.Running(); }
    bool BoardStopped() const override { return generation_.BoardStopped(); }
    bool TransferFinished() const override { return generation_.TransferFinished(); }
    void StartStop() override { generation_.StartButtonClick(); }
    void StopBoard() override { generation_.StopBoard(); }
    void EndTransfer() override { generation_.AbortTransfer(); }
    bool AllocateBuffer(int32_t memory) override { return generation_.AllocateBuffer(memory); }

private:
    GenerationControl& generation_;
};
