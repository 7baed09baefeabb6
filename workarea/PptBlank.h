#pragma once
// The blank page: no controls and no matching colours of its own; its scene is the
// default one ("frmPptBlank loaded"). The host keeps the properties panel hidden for it.

#include "workarea/PptBase.h"

class TfrmPptBlank : public TfrmPptBase {
    Q_OBJECT
public:
    explicit TfrmPptBlank(QWidget* Parent);
};
