#include "windows/tools/ToolGuards.h"

#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "link/TVexaComm.h"
#include "windows/TFMain.h"

bool CheckConnected()
{
    if (FMain && FMain->Comm && FMain->Comm->Connected())
        return true;
    ShowError(LangText(1102));
    return false;
}

bool CheckListLoaded()
{
    if (FMain && FMain->ListLoaded())
        return true;
    ShowError(LangText(1103));
    return false;
}
