// Tidying a host's files after a registration or a removal that was stopped
// part way (the process killed, the machine down): registration, listing and
// removal tidy first, so that the host holds either the whole of a
// background or none of it.
//
// A registration notes what it is about to do in section "REGISTERING" of
// the management file before its first picture, and clears the note with its
// last write; a removal notes the record it takes away in "REMOVING". Each
// file is replaced atomically, so a stop leaves the files of one step or of
// the next, and the notes tell what the steps were.
#pragma once

#include "host/HostRecords.h"
#include "host/Registration.h"
#include "platform/PrivateProfile.h"

namespace horizonmill {

// Under the host's locks (HostLock). For each note and record of the
// management file, against the host's list as it is now:
// - a registration whose entry the list holds was complete: its record is
//   made sure of and the note goes;
// - a registration the list does not hold is taken back: its pictures, any
//   record of it and the note go, and the host is told which pictures;
// - a removal whose entry the list still holds had not begun: its record is
//   put back and the note goes;
// - a removal the list no longer holds is finished: its pictures, any record
//   of it and the note go, and the host is told;
// - a record whose entry has moved takes the entry's number; a record no
//   entry holds stays (only its removal takes it and its pictures away).
// The host's list is never written. Pictures are deleted before the
// management file is written, so a stop in between finds the same work
// again. Nothing happens without a management file. Throws FileError naming
// the file when a file cannot be read or written.
void TidyHost(const HostFolders& folders, const BackgroundList& list, RegistrationHost& host);

// The last point of TidyHost on a management document, for a removal that
// has just changed the host's list: every record takes the number of the
// entry holding it (RenumberRecords). The caller saves the document. True
// when it changed.
bool FollowHostEntries(IniDocument& management, const HostEntries& entries);

}  // namespace horizonmill
