#pragma once
// What a running copy does with the palette messages of the others: the decisions of the
// inter-program protocol, apart from the window that carries them out. Handles are those
// of TPeerLink; the message that carries a copy's own handle is ignored by that copy.

#include "shell/base/PeerMessage.h"

class TRichPaletteList;

enum class TPeerActionKind {
    None,
    RequestCollectionFrom, // send RequestPaletteMessage to Peer
    SendCollectionTo, // send CollectionMessage to Peer
    SetViewMode, // palette view mode := Value (0..2)
    SelectPalette, // current palette := Value (a valid index)
    ReplaceCollection // ReadCollectionMessage, then replace the document's collection
};

struct TPeerAction {
    TPeerActionKind Kind = TPeerActionKind::None;
    quint64 Peer = 0;
    int Value = 0;

    friend bool operator==(const TPeerAction&, const TPeerAction&) = default;
};

TPeerAction DecidePeerAction(const TPeerMessage& Message, quint64 OwnHandle, int PaletteCount);

// The broadcasts and replies, with this copy's handle as WParam.
TPeerMessage PaletteChangedMessage(quint64 OwnHandle);
TPeerMessage RequestPaletteMessage(quint64 OwnHandle);
TPeerMessage SelectPaletteMessage(quint64 OwnHandle, int PaletteIndex);
TPeerMessage PaletteModeMessage(quint64 OwnHandle, int ViewMode);
// The whole collection as the stream of format 200, identifier 1378.
TPeerMessage CollectionMessage(quint64 OwnHandle, const TRichPaletteList& List);

// Reads the collection a CollectionMessage carries into List (which should be empty; the
// caller swaps it in). A stream whose format number is not 200 is ignored (UnknownFormat,
// List untouched), as is a message with another identifier.
TPaletteFileResult ReadCollectionMessage(const TPeerMessage& Message, TRichPaletteList& List);
