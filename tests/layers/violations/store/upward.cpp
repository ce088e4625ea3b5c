// The store reaching up to a screen.
#include "main_window/screen/frm_main.h"
#include "store/sql.h"
