// The view's Print command.

#include "NimbraView.h"

void CNimbraView::OnFilePrint() {}
