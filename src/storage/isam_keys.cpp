// The key operations of the engine's interface: the guard, then the B-tree of the key (btree.cpp).

#include "storage/btree.h"
#include "storage/isam.h"
#include "storage/isam_guard.h"

namespace storage {

void IsamAddKey(IsamFileBlock fb, int32_t keyNr, IsamRecRef ref, const IsamKeyStr& key) {
  IsamCallScope call(fb, IsamCallKind::KeyWrite, keyNr);
  if (call.entered()) (void)BtreeAddKey(*fb, keyNr, ref, key);  // the outcome is in IsamOK
}

void IsamDeleteKey(IsamFileBlock fb, int32_t keyNr, IsamRecRef ref, const IsamKeyStr& key) {
  IsamCallScope call(fb, IsamCallKind::KeyWrite, keyNr);
  if (call.entered()) (void)BtreeDeleteKey(*fb, keyNr, ref, key);  // the outcome is in IsamOK
}

void IsamSearchKey(IsamFileBlock fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key) {
  IsamCallScope call(fb, IsamCallKind::KeyRead, keyNr);
  if (call.entered()) BtreeSearchKey(*fb, keyNr, ref, key);
}

void IsamFindKeyAndRef(IsamFileBlock fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key, int32_t direction) {
  IsamCallScope call(fb, IsamCallKind::KeyRead, keyNr);
  if (call.entered()) BtreeFindKeyAndRef(*fb, keyNr, ref, key, direction);
}

void IsamNextKey(IsamFileBlock fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key) {
  IsamCallScope call(fb, IsamCallKind::KeyRead, keyNr);
  if (call.entered()) BtreeNextKey(*fb, keyNr, ref, key);
}

void IsamPrevKey(IsamFileBlock fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key) {
  IsamCallScope call(fb, IsamCallKind::KeyRead, keyNr);
  if (call.entered()) BtreePrevKey(*fb, keyNr, ref, key);
}

int32_t IsamUsedKeys(IsamFileBlock fb, int32_t keyNr) {
  IsamCallScope call(fb, IsamCallKind::KeyRead, keyNr);
  return call.entered() ? fb->Keys[keyNr - 1].NumberEntries : 0;
}

void IsamKeyToScrollPos(IsamFileBlock fb, int32_t keyNr, uint16_t& pos, uint16_t scale, const IsamKeyStr& key,
                        IsamRecRef ref) {
  IsamCallScope call(fb, IsamCallKind::KeyRead, keyNr);
  if (call.entered()) BtreeKeyToScrollPos(*fb, keyNr, pos, scale, key, ref);
}

void IsamScrollPosToKey(IsamFileBlock fb, int32_t keyNr, uint16_t pos, uint16_t scale, IsamKeyStr& key,
                        IsamRecRef& ref) {
  IsamCallScope call(fb, IsamCallKind::KeyRead, keyNr);
  if (call.entered()) BtreeScrollPosToKey(*fb, keyNr, pos, scale, key, ref);
}

}  // namespace storage
