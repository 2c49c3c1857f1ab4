// The framework's root object and its list of object pointers.
#include "afxcoll.h"

CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr};

CRuntimeClass* PASCAL CObject::GetThisClass() { return &classCObject; }
CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pfnGetBaseClass ? c->m_pfnGetBaseClass() : nullptr) {
    if (c == pBaseClass) return TRUE;
  }
  return FALSE;
}

CObList::CObList(INT_PTR nBlockSize) : m_nBlockSize(nBlockSize) {}

CObList::~CObList() { RemoveAll(); }

CObList::CNode* CObList::NewNode(CNode* prev, CNode* next) {
  auto* node = new CNode;
  node->pPrev = prev;
  node->pNext = next;
  node->data = nullptr;
  ++m_nCount;
  return node;
}

void CObList::FreeNode(CNode* node) {
  delete node;
  --m_nCount;
}

CObject*& CObList::GetHead() { return m_pNodeHead->data; }
CObject* CObList::GetHead() const { return m_pNodeHead->data; }
CObject*& CObList::GetTail() { return m_pNodeTail->data; }
CObject* CObList::GetTail() const { return m_pNodeTail->data; }

POSITION CObList::AddHead(CObject* newElement) {
  CNode* node = NewNode(nullptr, m_pNodeHead);
  node->data = newElement;
  if (m_pNodeHead) m_pNodeHead->pPrev = node;
  else m_pNodeTail = node;
  m_pNodeHead = node;
  return node;
}

POSITION CObList::AddTail(CObject* newElement) {
  CNode* node = NewNode(m_pNodeTail, nullptr);
  node->data = newElement;
  if (m_pNodeTail) m_pNodeTail->pNext = node;
  else m_pNodeHead = node;
  m_pNodeTail = node;
  return node;
}

void CObList::AddHead(CObList* newList) {
  for (POSITION pos = newList->GetTailPosition(); pos;) AddHead(newList->GetPrev(pos));
}

void CObList::AddTail(CObList* newList) {
  for (POSITION pos = newList->GetHeadPosition(); pos;) AddTail(newList->GetNext(pos));
}

CObject* CObList::RemoveHead() {
  CNode* old = m_pNodeHead;
  CObject* data = old->data;
  m_pNodeHead = old->pNext;
  if (m_pNodeHead) m_pNodeHead->pPrev = nullptr;
  else m_pNodeTail = nullptr;
  FreeNode(old);
  return data;
}

CObject* CObList::RemoveTail() {
  CNode* old = m_pNodeTail;
  CObject* data = old->data;
  m_pNodeTail = old->pPrev;
  if (m_pNodeTail) m_pNodeTail->pNext = nullptr;
  else m_pNodeHead = nullptr;
  FreeNode(old);
  return data;
}

void CObList::RemoveAll() {
  while (m_pNodeHead) {
    CNode* next = m_pNodeHead->pNext;
    FreeNode(m_pNodeHead);
    m_pNodeHead = next;
  }
  m_pNodeTail = nullptr;
}

POSITION CObList::GetHeadPosition() const { return m_pNodeHead; }
POSITION CObList::GetTailPosition() const { return m_pNodeTail; }

CObject*& CObList::GetNext(POSITION& position) {
  CNode* node = static_cast<CNode*>(position);
  position = node->pNext;
  return node->data;
}

CObject* CObList::GetNext(POSITION& position) const {
  const CNode* node = static_cast<const CNode*>(position);
  position = node->pNext;
  return node->data;
}

CObject*& CObList::GetPrev(POSITION& position) {
  CNode* node = static_cast<CNode*>(position);
  position = node->pPrev;
  return node->data;
}

CObject* CObList::GetPrev(POSITION& position) const {
  const CNode* node = static_cast<const CNode*>(position);
  position = node->pPrev;
  return node->data;
}

CObject*& CObList::GetAt(POSITION position) { return static_cast<CNode*>(position)->data; }
CObject* CObList::GetAt(POSITION position) const { return static_cast<const CNode*>(position)->data; }
void CObList::SetAt(POSITION pos, CObject* newElement) { static_cast<CNode*>(pos)->data = newElement; }

void CObList::RemoveAt(POSITION position) {
  CNode* node = static_cast<CNode*>(position);
  if (node == m_pNodeHead) m_pNodeHead = node->pNext;
  else node->pPrev->pNext = node->pNext;
  if (node == m_pNodeTail) m_pNodeTail = node->pPrev;
  else node->pNext->pPrev = node->pPrev;
  FreeNode(node);
}

POSITION CObList::InsertBefore(POSITION position, CObject* newElement) {
  if (!position) return AddHead(newElement);
  CNode* old = static_cast<CNode*>(position);
  CNode* node = NewNode(old->pPrev, old);
  node->data = newElement;
  if (old->pPrev) old->pPrev->pNext = node;
  else m_pNodeHead = node;
  old->pPrev = node;
  return node;
}

POSITION CObList::InsertAfter(POSITION position, CObject* newElement) {
  if (!position) return AddTail(newElement);
  CNode* old = static_cast<CNode*>(position);
  CNode* node = NewNode(old, old->pNext);
  node->data = newElement;
  if (old->pNext) old->pNext->pPrev = node;
  else m_pNodeTail = node;
  old->pNext = node;
  return node;
}

POSITION CObList::Find(CObject* searchValue, POSITION startAfter) const {
  CNode* node = startAfter ? static_cast<CNode*>(startAfter)->pNext : m_pNodeHead;
  for (; node; node = node->pNext)
    if (node->data == searchValue) return node;
  return nullptr;
}

POSITION CObList::FindIndex(INT_PTR nIndex) const {
  if (nIndex < 0 || nIndex >= m_nCount) return nullptr;
  CNode* node = m_pNodeHead;
  while (nIndex--) node = node->pNext;
  return node;
}
