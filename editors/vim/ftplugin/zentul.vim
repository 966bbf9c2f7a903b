" Zentul scripts and packages: :make checks the file (compiler/zentul.vim).
if exists('b:did_ftplugin')
  finish
endif
let b:did_ftplugin = 1
compiler zentul
setlocal commentstring=#\ %s
let b:undo_ftplugin = 'setlocal makeprg< errorformat< commentstring<'
