#include "workarea/PptBlank.h"

// The default scene prints the form's component name, so the name is the page's own.
TfrmPptBlank::TfrmPptBlank(QWidget* Parent)
    : TfrmPptBase(Parent)
{
    setObjectName(QStringLiteral("frmPptBlank"));
}
