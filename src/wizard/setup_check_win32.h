// The setup's check of its own payload streams, made while the first page waits for the user.
#pragma once

// Checks the glyph font's stream, before the font is loaded; a damaged one is reported in the
// system's box (the setup's own needs the font). 1 when intact.
int GlyphFontIntact();

// Checks the next stream; 1 while streams are left. Damage found is reported at once and ends the
// wizard.
int ContinueSetupCheck();

// Checks whatever is left, before anything reads a payload or touches the disk: 1 when every
// stream is intact; 0 when one is damaged, which is reported and ends the wizard.
int FinishSetupCheck();

// 1 once damage has been found: the setup then ends with exit code 1.
int SetupDamageFound();
