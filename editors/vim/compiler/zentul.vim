" Vim compiler file for Zentul: :make checks the current file with
" `zentul --check` and fills the quickfix list with its errors and warnings.
if exists('current_compiler')
  finish
endif
let current_compiler = 'zentul'
if exists(':CompilerSet') != 2
  command -nargs=* CompilerSet setlocal <args>
endif
CompilerSet makeprg=zentul\ --check\ %:S
CompilerSet errorformat=%f:%l:\ %trror:\ %m,%f:%l:\ %tarning:\ %m
