#pragma once

namespace zorva {

// Qt's drawing routines use wide vector instructions and can return with the upper
// halves of the vector registers in use. Until those are cleared, the plain SSE code of
// the core and of the maths library runs many times slower on current x86 processors
// (a redraw's grid projection took ten times as long). Call this after painting and
// before heavy numeric work; it does nothing where the processor has no AVX.
void ClearUpperVectorState();

} // namespace zorva
