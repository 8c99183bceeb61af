// Marks what the plug-in exports to its host. The objects are compiled with hidden visibility,
// so only declarations carrying this macro reach the shared library's interface; the linker
// version script (Sceneport.map) then keeps everything else, including the standard library's
// template instantiations, out of the dynamic symbol table.
#pragma once

#define SCENEPORT_API __attribute__((visibility("default")))
