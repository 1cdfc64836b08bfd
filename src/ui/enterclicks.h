#pragma once

class QWidget;

// Enter pressed while a push button of window has the focus clicks that button, as on the home
// platform; Qt does so only for a dialog's buttons. Enter anywhere else is left alone.
void clickButtonsOnEnter(QWidget *window);
