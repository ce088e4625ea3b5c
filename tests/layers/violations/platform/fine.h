#pragma once

// Its own folder, with and without the folder name: no complaint.
#include "blank_text.h"
#include "platform/date_text.h"
