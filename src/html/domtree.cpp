// The document tree, its parser and the XPath evaluator live in this folder.
