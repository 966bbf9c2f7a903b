" Zentul scripts, package files and libraries.
autocmd BufNewFile,BufRead *.zen,*.zep,*.zinc setfiletype zentul
