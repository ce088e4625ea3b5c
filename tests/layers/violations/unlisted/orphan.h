#pragma once
// A folder nobody put in the table.
