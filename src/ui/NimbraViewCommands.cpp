// The view's commands on one session and on the options.

#include "NimbraView.h"

void CNimbraView::OnOptions() {}

void CNimbraView::OnKillSession() {}

void CNimbraView::OnSessionProperties() {}
