// The test page that both test commands print: heading, titles, English and
// Chinese lines, the three alignments, the sample picture, a feed and a cut.
#pragma once
#include "testprint/bitmap.h"
#include "testprint/job_buffer.h"

// Appends the whole page to an empty buffer. The heading (the
// printer address or the USB port name) is sent as its bytes unchanged; the
// picture goes out in 24-row bands with threshold 200.
void ComposeTestPage(PrintJobBuffer* buffer, const char* heading, const BitmapRecord* picture);
