namespace vantrel::test {}
