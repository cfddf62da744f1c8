#pragma once

// An editor's texts together with the codec of its memory area, bound to them: what an editor
// window owns. The texts come first, so the codec never sees them unbuilt.
template <class Texts, class Codec>
struct TEditorArea {
    Texts texts;
    Codec codec{texts};
};
