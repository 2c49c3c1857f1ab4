// The framework's list of object pointers.
#pragma once
#include "afxobj.h"

struct __POSITION {};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)

class CObList : public CObject {
 public:
  explicit CObList(INT_PTR nBlockSize = 10);
  ~CObList() override;

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  CObject*& GetHead();
  CObject* GetHead() const;
  CObject*& GetTail();
  CObject* GetTail() const;
  CObject* RemoveHead();
  CObject* RemoveTail();
  POSITION AddHead(CObject* newElement);
  POSITION AddTail(CObject* newElement);
  void AddHead(CObList* newList);
  void AddTail(CObList* newList);
  void RemoveAll();

  POSITION GetHeadPosition() const;
  POSITION GetTailPosition() const;
  CObject*& GetNext(POSITION& position);
  CObject* GetNext(POSITION& position) const;
  CObject*& GetPrev(POSITION& position);
  CObject* GetPrev(POSITION& position) const;
  CObject*& GetAt(POSITION position);
  CObject* GetAt(POSITION position) const;
  void SetAt(POSITION pos, CObject* newElement);
  void RemoveAt(POSITION position);
  POSITION InsertBefore(POSITION position, CObject* newElement);
  POSITION InsertAfter(POSITION position, CObject* newElement);
  POSITION Find(CObject* searchValue, POSITION startAfter = nullptr) const;
  POSITION FindIndex(INT_PTR nIndex) const;

  CObList(const CObList&) = delete;
  CObList& operator=(const CObList&) = delete;

 private:
  struct CNode : __POSITION {
    CNode* pNext;
    CNode* pPrev;
    CObject* data;
  };
  CNode* NewNode(CNode* prev, CNode* next);
  void FreeNode(CNode* node);
  CNode* m_pNodeHead = nullptr;
  CNode* m_pNodeTail = nullptr;
  INT_PTR m_nCount = 0;
  INT_PTR m_nBlockSize;
};
