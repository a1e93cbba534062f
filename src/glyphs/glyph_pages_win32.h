// The glyph font on GDI: the four page surfaces that mixed text is drawn from.
#pragma once

// Builds GlyphPages from the unpacked font. 0 when a bitmap or surface could not be made (the
// pages built so far stay in GlyphPages for ReleaseGlyphPages).
int BuildGlyphPages(const unsigned char *font);
void ReleaseGlyphPages();
