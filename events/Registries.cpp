#include "events/Registries.h"

#include "events/GL_records.h"
#include "events/SL_records2.h"

namespace {

template <class... Types> void appendPrototypes(aList& list) {
    (list.pushBack(new Types), ...);
}

template <class P> const P* firstAccepting(const aLink* l, const uint8_t* record) {
    for (; l; l = l->next) {
        auto* p = static_cast<const P*>(l);
        if (p->accepts(record)) return p;
    }
    return nullptr;
}

} // namespace

GL_pList::GL_pList() {
    appendPrototypes<GL_powerOn, GL_powerOff, GL_sensorLoad, GL_groupLoad, GL_state, GL_cycleStart,
                     GL_cycleStop, GL_consoleMode, GL_sensFail, GL_sensOK, GL_channelState,
                     GL_downloaderState, GL_unknown>(*this);
}

const GL_parser* GL_pList::front() const {
    return static_cast<const GL_parser*>(first);
}
const GL_parser* GL_pList::after(const GL_parser* p) {
    return static_cast<const GL_parser*>(p->next);
}
const GL_parser* GL_pList::find(const uint8_t* record) const {
    // Every prototype refuses an erased record (GL_parser::accepts); most of a
    // young log is erased, so it is not offered to each of them.
    if (record[0] == 0xFF) return nullptr;
    return firstAccepting<GL_parser>(first, record);
}

SL_pList::SL_pList() {
    appendPrototypes<SL_updateKey, SL_delKey, SL_memErase, SL_newDate, SL_newTime, SL_grpZero,
                     SL_grpScale, SL_grpSStep, SL_grpRStep, SL_grpRLevel, SL_tareGrp, SL_grpNWeight,
                     SL_grpNWeightA, SL_relGrNum, SL_relCutN, SL_relCutA, SL_relCutNtmp,
                     SL_relCutAtmp, SL_relCutNtime, SL_relCutAtime, SL_relRlxN, SL_relRlxA,
                     SL_relWrnNtime, SL_relWrnAtime, SL_sensBrChoice, SL_sensClrLst, SL_lsRelay,
                     SL_serNo, SL_relMode, SL_olStart, SL_olStop, SL_grpMode, SL_grpRLevelP,
                     SL_grpNWeightAP, SL_relCutP, SL_relCutTmpP, SL_relRlxP, SL_sensZero,
                     SL_sensAdj, SL_unknown>(*this);
}

const SL_parser* SL_pList::front() const {
    return static_cast<const SL_parser*>(first);
}
const SL_parser* SL_pList::after(const SL_parser* p) {
    return static_cast<const SL_parser*>(p->next);
}
const SL_parser* SL_pList::find(const uint8_t* record) const {
    // Likewise for an erased slot (SL_parser::accepts).
    if (record[7] == 0xFF) return nullptr;
    return firstAccepting<SL_parser>(first, record);
}
