#pragma once

#include "editor/frmSakusei.h"
#include "shell/frmMain.h"
#include "support/TestEnv.h"

#include <memory>

// A started program with its editor window shown, as after
// "問題ﾌｧｲﾙ作成ﾓｰﾄﾞ(&N)".
struct EditorFixture {
    TestEnv env;
    std::unique_ptr<frmMain> main = std::make_unique<frmMain>();
    frmSakusei* editor = nullptr;

    EditorFixture() {
        main->show();
        main->mnuToolSakusei_Click();
        editor = main->sakusei();
    }
};
