// The C streams made over Windows files that are open: how many there are,
// and the read-ahead of those that read, which _flushall discards.
#pragma once
#include <cstdio>

namespace winsim::files {

// Called once a stream is made and from its close hook (which runs with
// the stream locked).
void RegisterCrtStream(FILE* stream, bool reads);
void UnregisterCrtStream(FILE* stream);

// How many streams made here are open (for _flushall's count).
int OpenCrtStreamCount();

// Drops what the reading streams hold read ahead, so that their next read
// takes the file as it is then; their positions stay. A stream another
// thread holds locked at the time (busy with a call, or closing) keeps it.
void DiscardCrtReadAhead();

}  // namespace winsim::files
