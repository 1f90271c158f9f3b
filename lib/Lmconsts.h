#pragma once

// The utility library's constant tables. Starting and ending the unit only counts.
void LmconstsStartup();
void LmconstsExit();
